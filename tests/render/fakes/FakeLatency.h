// The latency the latency-reporting test plug-in reports and delays its output by.
#pragma once

#include "vst2/vst2.h"

constexpr int kFakeLatency = 240;
