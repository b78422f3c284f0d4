#pragma once

// The JSON text helpers live with the data layer, which saves results as JSON
// too; brindle::cli finds them unqualified.
#include "data/json_text.h"
