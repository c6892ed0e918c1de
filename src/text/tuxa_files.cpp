#include "text/tuxa_files.h"
