// How a program puts the network beside the frame, which cannot name it: the program's entry
// lists InstallNetworkLayer among its layers (frame/program_entry.h).
#pragma once

// The start-up makes the network record; the quit sequence says goodbye for the local players,
// ends the network thread and drops every socket start reference.
void InstallNetworkLayer();
