// The once-a-second clock at (71, 0) and the date and time texts of the
// change rows (DATE$ with an empty format, TIME$).
#pragma once

#include <string>

namespace monitor {

// Prints the time of day, or "Error   " when `linkFault`, and puts the cursor back.
void show_clock(bool linkFault);

std::string current_date_text();  // yy/mm/dd
std::string current_time_text();  // hh:mm:ss

}  // namespace monitor
