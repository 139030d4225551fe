// The texts of the editors' readouts: each converter writes the value with its
// unit into the readout's text buffer, as CParamDisplay::setStringConvert
// expects. They keep no state and may run on any thread.
//
// The buffer must hold kConverterTextBytes; no converter writes more, whatever
// the value, and none depends on what the buffer held before.
#pragma once

#include <cstddef>

inline constexpr std::size_t kConverterTextBytes = 32;

// 50%, 12.3%: whole percent from 0.2 up, one decimal below.
void percentStringConvert(float value, char* text);
// Level in dB with one decimal, truncated; "-oo dB" at 0.00000001 and below.
void dBStringConvert(float value, char* text);
// Level in dB full scale at six dB per doubling; "-oo dBFS" likewise.
void dBFSStringConvert(float value, char* text);
// The whole part.
void intStringConvert(float value, char* text);
// A factor with two decimals, truncated: x1.25.
void ratioStringConvert(float value, char* text);
// Whole samples: 513smps; "0smps" below one.
void samplesStringConvert(float value, char* text);
// Milliseconds with 3 to 0 decimals by size, seconds from 1000 ms up.
void msStringConvert(float value, char* text);
