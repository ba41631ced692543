#include "PickerFormat.h"

void RemoveSeconds(LPWSTR picture)
{
    LPWSTR kept = picture;
    bool seenSeconds = false;
    for (LPCWSTR next = picture; *next; ++next) {
        if (*next != u's') {
            *kept++ = *next;
            continue;
        }
        if (!seenSeconds && kept != picture)
            --kept; // the separator written just before
        seenSeconds = true;
    }
    *kept = 0;
}
