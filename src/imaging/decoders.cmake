# Sources of the imaging library. Each family folder lists its files in <family>/sources.cmake
# (appending to MV_IMAGING_SOURCES) so that the fuzz build compiles exactly the same files.
set(MV_IMAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(MV_IMAGING_SOURCES
  ${MV_IMAGING_DIR}/DecodeLimits.cpp
)
file(GLOB MV_IMAGING_FAMILIES CONFIGURE_DEPENDS ${MV_IMAGING_DIR}/*/sources.cmake)
foreach(family IN LISTS MV_IMAGING_FAMILIES)
  include(${family})
endforeach()
