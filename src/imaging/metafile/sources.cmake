# Windows metafiles and enhanced metafiles, played over QPainter.
list(APPEND MV_IMAGING_SOURCES
  ${MV_IMAGING_DIR}/metafile/DcState.cpp
  ${MV_IMAGING_DIR}/metafile/EmfLoader.cpp
  ${MV_IMAGING_DIR}/metafile/EmfMaskedBlits.cpp
  ${MV_IMAGING_DIR}/metafile/EmfObjects.cpp
  ${MV_IMAGING_DIR}/metafile/EmfOutput.cpp
  ${MV_IMAGING_DIR}/metafile/EmfPlayer.cpp
  ${MV_IMAGING_DIR}/metafile/EmfRegions.cpp
  ${MV_IMAGING_DIR}/metafile/EmfShapes.cpp
  ${MV_IMAGING_DIR}/metafile/GdiBlit.cpp
  ${MV_IMAGING_DIR}/metafile/GdiCanvas.cpp
  ${MV_IMAGING_DIR}/metafile/GdiClipAndPath.cpp
  ${MV_IMAGING_DIR}/metafile/GdiCurves.cpp
  ${MV_IMAGING_DIR}/metafile/GdiObjects.cpp
  ${MV_IMAGING_DIR}/metafile/GdiRasterOps.cpp
  ${MV_IMAGING_DIR}/metafile/GdiRegions.cpp
  ${MV_IMAGING_DIR}/metafile/GdiText.cpp
  ${MV_IMAGING_DIR}/metafile/MetafileBitmap.cpp
  ${MV_IMAGING_DIR}/metafile/MetafileDecoder.cpp
  ${MV_IMAGING_DIR}/metafile/MetafileDrawing.cpp
  ${MV_IMAGING_DIR}/metafile/MetafileSize.cpp
  ${MV_IMAGING_DIR}/metafile/WmfLoader.cpp
  ${MV_IMAGING_DIR}/metafile/WmfPlayer.cpp
  ${MV_IMAGING_DIR}/metafile/WmfRegions.cpp
  ${MV_IMAGING_DIR}/metafile/WmfShapes.cpp
)
