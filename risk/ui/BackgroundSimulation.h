#pragma once

#include "RiskSimulation.h"

#include <QtGlobal>

#include <atomic>
#include <functional>

// Runs the simulation on a worker thread while the calling (GUI) thread keeps handling its
// events in a loop of its own, so windows repaint and their commands run meanwhile. `shown` is
// called on the calling thread about ten times a second with the runs made so far; setting
// `cancel` from any command stops the runs, and the result keeps those made. Returns when the
// worker has ended; what the engine raised is raised here, on the calling thread.
risk::SimulationResult simulateInBackground(const risk::RiskNetwork& network,
                                            const risk::SimulationSettings& settings,
                                            const std::atomic<bool>& cancel,
                                            const std::function<void(qint64 runsDone)>& shown);
