// vesk::ss::CProtocol: one registered protocol with its four callbacks. It
// answers no query by name.
#pragma once

#include <mutex>
#include <string>

#include "core/capsule.h"
#include "plugins/Ombrel/levelTable.h"
#include "vesk/ss.h"

namespace vesk::ss {

class CProtocol : public objectBase, public IProtocol {
public:
    CProtocol() = default;

    void SetName(const char* name) override;
    void SetDescription(const char* description) override;
    void SetShortName(const char* shortName) override;
    void SetParameter1(int v) override { parameter1_ = v; }
    void SetParameter2(int v) override { parameter2_ = v; }
    void SetState(int state) override;
    bool AddField(Istring* field, Istring* list, unsigned valueType, int level) override;
    bool IsFieldShown(Istring* field, Istring* list) override;
    const char* GetName() override { return name_.c_str(); }
    const char* GetDescription() override { return description_.c_str(); }
    const char* GetShortName() override { return shortName_.c_str(); }
    int GetParameter1() override { return parameter1_; }
    int GetParameter2() override { return parameter2_; }
    int GetState() override { return state_; }
    const char* GetStateText() override;
    bool Connect() override;
    bool Disconnect() override;
    int StartSearch(ISearchInst* search) override;
    int StopSearch(ISearchInst* search) override;

    // Set by the manager when it lists the protocol.
    void Attach(ISSManager* manager, const ProtocolRegistration& r);

private:
    // The state's text into stateText_ (the caller holds textLock_).
    void loadStateText(int state);

    ISSManager* manager_ = nullptr;  // not owned
    levelTable levels_;
    ProtocolConnectFn onConnect_ = nullptr;
    ProtocolConnectFn onDisconnect_ = nullptr;
    ProtocolSearchFn onStartSearch_ = nullptr;
    ProtocolSearchFn onStopSearch_ = nullptr;
    std::string name_;
    std::string description_;
    std::string shortName_;
    int parameter1_ = 0;
    int parameter2_ = 0;
    volatile int state_ = 0;
    std::mutex textLock_;
    char stateText_[64] = {};
};

}  // namespace vesk::ss
