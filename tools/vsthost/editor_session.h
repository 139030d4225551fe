// The test host's editor command: opens a plug-in's editor in a window of
// the host's own, keeps it idle and fed with a test signal, logs what the
// plug-in tells the host, and runs a script of steps.
//
// Script steps, one a line ('#' starts a comment):
//   wait MS            keep running for MS milliseconds
//   screenshot FILE    a PNG of the window, editor included (a PPM for .ppm)
//   params [I...]      log "param I VALUE" for the parameters (all without I)
//   set I VALUE        the host sets parameter I (the editor follows)
//   program            log "program NAME" (the current program's name)
//   echo TEXT          log "echo TEXT" (a mark for scripts that read the log)
//   close              close the editor and end
// Without close the editor stays open until its window is closed (or the
// time limit passes).
#pragma once

#include <string>
#include <vector>

#include "tools/vsthost/plugin_host.h"

namespace vsthost {

struct EditorOptions {
  std::string logPath;             // empty: standard output
  std::vector<std::string> steps;  // steps from the command line, run first
  std::string scriptPath;          // steps from a file, after those
  bool followScript = false;       // keep reading lines appended to the file
  int idleMs = 20;                 // effEditIdle period
  double timeoutSeconds = 0;       // 0: no limit
  double signalFrequency = 440.0;
  double signalAmplitude = 0.25;  // between the bursts; the bursts are full scale
  bool silent = false;            // silence instead: meters at rest, as in a stopped host
  int sampleRate = 44100;
  int blockSize = 512;
};

// Returns the process status: 0 when the editor opened and closed cleanly.
int runEditor(HostedPlugin& plugin, const EditorOptions& options);

}  // namespace vsthost
