# The decoding entry point: sniffing, the type table, JPEG through libjpeg, Qt's readers.
list(APPEND MV_IMAGING_SOURCES
  ${MV_IMAGING_DIR}/core/DecodeOptions.cpp
  ${MV_IMAGING_DIR}/core/FileBytes.cpp
  ${MV_IMAGING_DIR}/core/FormatTable.cpp
  ${MV_IMAGING_DIR}/core/HeaderDepth.cpp
  ${MV_IMAGING_DIR}/core/JpegDecoder.cpp
  ${MV_IMAGING_DIR}/core/JpegJob.cpp
  ${MV_IMAGING_DIR}/core/JpegScale.cpp
  ${MV_IMAGING_DIR}/core/Picture.cpp
  ${MV_IMAGING_DIR}/core/PictureDecoder.cpp
  ${MV_IMAGING_DIR}/core/QtDecoder.cpp
  ${MV_IMAGING_DIR}/core/SiblingPalette.cpp
)
