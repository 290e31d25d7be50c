// text_local.h -- the number-to-text conversion, shared with the unit tests only
#pragma once

// The decimal digits of value, with a minus sign when negative, or nullptr
// when out of memory. The caller frees the text.
char *IntToString(int value);
