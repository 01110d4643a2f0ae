// Resource ids of the window library's test program.
#pragma once

#define IDR_TEST_TOOLBAR 300
#define IDR_TEST_BROKEN_TOOLBAR 301
