#include "tests/support/TestRunner.h"

LUMADEX_TEST_MAIN()
