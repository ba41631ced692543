// The user's time format without its seconds, for pickers that set minutes at most.
#pragma once

#include <windows.h>

// Drops every lower-case 's' of a time picture and the separator just before the first of them:
// "h:mm:ss tt" becomes "h:mm tt", "HH:mm:ss" becomes "HH:mm". A picture that begins with 's' loses only
// the letters; one without 's' stays whole.
void RemoveSeconds(LPWSTR picture);
