// Every test writer of the pc decoder family, for the benchmark and the corpus writer.
#pragma once

#include "CutEncoder.h"
#include "DibEncoder.h"
#include "GemImgEncoder.h"
#include "MspEncoder.h"
#include "PcxEncoder.h"
#include "SunRasterEncoder.h"
#include "TargaEncoder.h"
