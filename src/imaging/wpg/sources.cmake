# The vector records of WordPerfect graphics, played onto a QPainter.
list(APPEND MV_IMAGING_SOURCES
  ${MV_IMAGING_DIR}/wpg/WpgPicture.cpp
  ${MV_IMAGING_DIR}/wpg/WpgStyle.cpp
  ${MV_IMAGING_DIR}/wpg/WpgPattern.cpp
  ${MV_IMAGING_DIR}/wpg/Wpg1Player.cpp
  ${MV_IMAGING_DIR}/wpg/Wpg2Objects.cpp
  ${MV_IMAGING_DIR}/wpg/Wpg2Text.cpp
  ${MV_IMAGING_DIR}/wpg/Wpg2Player.cpp
  ${MV_IMAGING_DIR}/wpg/WpgVectorDecoder.cpp
)
