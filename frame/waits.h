// The commands that hold the program until the user answers.
#pragma once

// Until a character is typed. Characters typed before the call and while it ends are dropped.
void WaitForKey();
// Until a mouse button is pressed and released; a button held at the call must first be released.
void WaitForMouseButton();
