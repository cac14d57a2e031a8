#pragma once
// Command targets and message maps: a static table per class binds command IDs to
// member handlers, chained to the base class's table, so a command can be fired by
// ID exactly as a menu, toolbar button or accelerator would.
#include "framework/Types.h"

class CCmdTarget;
using AFX_PMSG = void (CCmdTarget::*)();

struct AFX_MSGMAP_ENTRY {
    UINT nID;       // command ID; 0 ends the table
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

class CCmdTarget : public CObject {
public:
    ~CCmdTarget() override = default;

    // Runs the handler bound to nID in this object's map chain; false when none.
    virtual bool OnCmdMsg(UINT nID);
    // True when a handler for nID exists in this object's map chain.
    bool HasCmdHandler(UINT nID) const;

    static const AFX_MSGMAP* GetThisMessageMap();

protected:
    virtual const AFX_MSGMAP* GetMessageMap() const;

private:
    AFX_PMSG FindHandler(UINT nID) const;
};

#define DECLARE_MESSAGE_MAP()                                 \
public:                                                       \
    static const AFX_MSGMAP* GetThisMessageMap();             \
                                                              \
protected:                                                    \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                              \
    {                                                                            \
        using ThisClass [[maybe_unused]] = theClass;                                            \
        using TheBaseClass = baseClass;                                          \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define ON_COMMAND(id, memberFxn) {static_cast<UINT>(id), static_cast<AFX_PMSG>(&ThisClass::memberFxn)},

// Binds a command to a handler of a base class (for example a framework default).
#define ON_COMMAND_BASE(id, memberFxn) {static_cast<UINT>(id), static_cast<AFX_PMSG>(&memberFxn)},

#define END_MESSAGE_MAP()                                                        \
            {0, nullptr}};                                                       \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap,  \
                                              &_messageEntries[0]};              \
        return &messageMap;                                                      \
    }
