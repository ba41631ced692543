// What a new device made by 'phone up' holds, so every feature of the program has something to show.
#pragma once

namespace phone {

// Sample contacts (most with a mobile number, one without) and a few months of received and sent text
// messages, the newest from today. Throws as the device services do.
void AddSampleData();

} // namespace phone
