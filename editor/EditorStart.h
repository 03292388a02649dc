#pragma once
// The editor's start-up: application title and help file, the main window.
void StartMuokkain();
