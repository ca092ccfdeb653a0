// The test writers of the pc family (PCX, Targa, Sun Raster, bare DIB, MSP, GEM IMG, CUT and
// its PAL), for the tests, the fuzz seeds and the benchmark.
#pragma once

#include "DibMspGemCutEncoders.h"
#include "PcxTargaSunEncoders.h"
