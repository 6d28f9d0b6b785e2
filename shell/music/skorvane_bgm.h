// The shell's music module Skorvane_BGM: the command channel to the media control interface,
// audio-CD playback kept alive by polling, MP3 playback looped by polling, WAV playback looped by
// the system sound player. Plays BgmFile and repeats BgmRepeat (shell/settings/settings_file.h)
// through the platform's music entry points (ShellPlatform::Music); every platform result is left
// in ApiResult.
#pragma once

#include <cstdint>
#include <string>

#include "shell/music/bgm_platform.h"

namespace velmoria {

// True while CD polling is healthy; the session keeps its polling timer on exactly while it is.
extern bool CdAlive;

// ---- Command channel ----

// Sends a command with a 512-character reply buffer: 0 with the reply (cut at its first NUL),
// or the MCI error code with the platform's error text; -1 for an empty command, which is not
// sent.
int32_t MCI_Command(const std::string& command, std::string& reply);
// The reply on success, else "Error:" followed by the code.
std::string MCI_Status(const std::string& command);
// "play DEVICE [from FROM] [to TO]"; an empty From or To is left out. The code of MCI_Command.
int32_t MCI_Play(const std::string& device, const std::string& from, const std::string& to);
// Sends a command with no reply buffer and drops its outcome.
void MCI_Send(const std::string& command);
// True when the system has at least one wave-output device.
bool MCI_HasWaveOut();

// ---- CD audio ("cdaudio", time format tmsf) ----

void CD_Open();
// One polling step: starts play when the disc has stopped, and puts the track BgmRepeat back
// when another one plays.
void CD_Check();
void CD_Stop();

// ---- File playback: BgmFile as MP3 (alias "MP3Play") or WAV (sound player) ----

void MP3_Play();
bool MP3_IsPlaying();
// Restarts the MP3 from its beginning when it no longer plays.
void MP3_Check();
void MP3_Stop();
void WAV_Play();
void WAV_Stop();

// Starts the module's buffers and CdAlive afresh, as at the start of the shell (for tests that
// run the procedures more than once in one process).
void ResetBgmModule();

}  // namespace velmoria
