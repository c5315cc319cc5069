#pragma once
// The first instance's side of the hand-off: files that later starts hand
// over reach the main window, and their requests to come forward raise it.
class TFormLorimel;
class TSingleInstance;

void ConnectHandOff(TSingleInstance& instance, TFormLorimel& form);
