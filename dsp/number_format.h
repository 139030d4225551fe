#pragma once

// The short decimal texts of the parameter displays and readouts. Pure
// functions; callable from any thread.

// The value prepared for display with `decimals` decimals: pushed up by one
// unit of the last decimal when its remainder reaches 0.49999 of a unit (down
// for negative values), so that cutting the text after `decimals` decimals
// rounds half away from zero. Negative `decimals` round to tens, hundreds, ...
// A value whose scaled form leaves the 32-bit range comes back unchanged.
double roundToDecimals(double value, int decimals);

// Writes the value with `decimals` decimals into at most eight characters and
// a terminator; text must hold 9 bytes. Values above 99999999 or below
// -9999999, NaN and infinities leave the text untouched. A value whose integer
// part does not fit in front of the point (10000000 and above, -1000000 and
// below) is written as its integer digits without a point, e.g. "12345678".
void floatToStringDecimals(float value, int decimals, char* text);
