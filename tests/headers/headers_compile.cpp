// Compiled once per public header, each time with only that header
// included: a header that misses an include of its own fails here.
#include VORN_HEADER_UNDER_TEST
