#pragma once
// The client's start-up: single instance, process-wide settings, the long-lived windows, the loop.
class QApplication;

// Loads Qt's own Chinese texts, the theme and a font that renders Chinese.
void ApplyProcessWideSettings(QApplication& app);

int RunClient(int argc, char** argv);
