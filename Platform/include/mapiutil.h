// Helpers for the structures MAPI returns.
#pragma once

#include "mapix.h"

// Frees each row's property values, then the row set.
STDAPI_(void) FreeProws(LPSRowSet lpRows);
// Frees each entry's property values, then the list.
STDAPI_(void) FreePadrlist(LPADRLIST lpAdrlist);
