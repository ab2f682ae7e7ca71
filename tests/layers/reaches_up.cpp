// Compiled against a lower layer only: the build must refuse it.
#include LAYER_CHECK_HEADER
