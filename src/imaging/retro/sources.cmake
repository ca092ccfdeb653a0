# Decoders of old paint and clip-art formats: Amiga IFF, MacPaint, PFS ART, PC Paint PIC,
# Slow Scan TV HRZ and WordPerfect WPG bitmaps.
list(APPEND MV_IMAGING_SOURCES
  ${MV_IMAGING_DIR}/retro/PackBits.cpp
  ${MV_IMAGING_DIR}/retro/BitUnpack.cpp
  ${MV_IMAGING_DIR}/retro/RetroPalettes.cpp
  ${MV_IMAGING_DIR}/retro/IffChunks.cpp
  ${MV_IMAGING_DIR}/retro/IlbmPixels.cpp
  ${MV_IMAGING_DIR}/retro/IffDecoder.cpp
  ${MV_IMAGING_DIR}/retro/MacPaintDecoder.cpp
  ${MV_IMAGING_DIR}/retro/ArtDecoder.cpp
  ${MV_IMAGING_DIR}/retro/PicPalette.cpp
  ${MV_IMAGING_DIR}/retro/PicDecoder.cpp
  ${MV_IMAGING_DIR}/retro/HrzDecoder.cpp
  ${MV_IMAGING_DIR}/retro/WpgRecords.cpp
  ${MV_IMAGING_DIR}/retro/WpgRle.cpp
  ${MV_IMAGING_DIR}/retro/WpgBitmaps.cpp
  ${MV_IMAGING_DIR}/retro/WpgDecoder.cpp
)
