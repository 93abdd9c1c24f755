#pragma once

// True when the system runs with user account control: a Windows major
// version above 5 and "EnableLUA" set to 1 under the machine's system
// policies. Any failure reads as off.
bool IsUserAccountControlOn();
