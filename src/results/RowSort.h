// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// Result rows are sorted by the search layer's row sort, so that the headless scan and the
// window order rows alike.
#include "search/RowSort.h"
