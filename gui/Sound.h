// The alert sounds through libcanberra: a WAV file handed to the desktop's sound server,
// never waited for. Where no sound server runs, nothing is heard and nothing is reported.
#pragma once

#include <string>

struct ca_context;

class SoundPlayer {
  public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Starts playing the file (a host path); false when it could not be started.
    bool Play(const std::string& hostPath);

  private:
    ca_context* m_context = nullptr;
};
