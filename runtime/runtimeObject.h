// vesk::runtime: the command-line parameters and the running flag that a
// shutdown request clears.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/host.h"
#include "vesk/threading.h"

namespace vesk {

class runtime : public objectBase, public Iruntime, public IexitStatus, public IcoreObject {
public:
    runtime();
    ~runtime();
    // False when the parameter table could not be made.
    bool ready() const { return parameters_ != nullptr; }

    HINSTANCE getInstance() override { return instance_; }
    int setInstance(HINSTANCE instance) override;
    bool isRunning() override { return running_; }
    bool shutdown() override;
    Ihash* getParameters() override { return parameters_; }

    void reportFailure(int exitCode) override;
    int getExitCode() override { return exitCode_; }

    // Stores every "-name value" item of the command line (null: none).
    void readCommandLine(const char* commandLine);
    // "win32_show"; replaces a command-line item of that name.
    void setShowCommand(int show);

    // How a shutdown reaches the signal loop; a null factory or signal
    // processor stops posting, a null sender does not. None is owned: the
    // host keeps them alive while they are set.
    void routeShutdown(Ifactory* factory, IentityToken* sender, IsignalProcessor* signals);
    void setSignalPath(unsigned long handle);

private:
    void postShutdownSignal();

    HINSTANCE instance_ = nullptr;
    std::atomic<bool> running_{true};
    std::atomic<int> exitCode_{0};
    Ihash* parameters_;  // add-ref mode, one reference held

    std::mutex routeLock_;
    Ifactory* factory_ = nullptr;
    IentityToken* sender_ = nullptr;
    IsignalProcessor* signals_ = nullptr;
    unsigned long signalPath_ = 0;
};

}  // namespace vesk
