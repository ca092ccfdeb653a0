# Decoders of the old PC and workstation raster formats.
list(APPEND MV_IMAGING_SOURCES
  ${MV_IMAGING_DIR}/pc/PixelUnpack.cpp
  ${MV_IMAGING_DIR}/pc/Palettes.cpp
  ${MV_IMAGING_DIR}/pc/PcHelpers.cpp
  ${MV_IMAGING_DIR}/pc/PcxDecoder.cpp
  ${MV_IMAGING_DIR}/pc/TargaDecoder.cpp
  ${MV_IMAGING_DIR}/pc/SunRasterDecoder.cpp
  ${MV_IMAGING_DIR}/pc/DibHeader.cpp
  ${MV_IMAGING_DIR}/pc/DibRle.cpp
  ${MV_IMAGING_DIR}/pc/DibDecoder.cpp
  ${MV_IMAGING_DIR}/pc/MspDecoder.cpp
  ${MV_IMAGING_DIR}/pc/GemImgDecoder.cpp
  ${MV_IMAGING_DIR}/pc/CutDecoder.cpp
)
