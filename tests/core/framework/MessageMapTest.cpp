#include <gtest/gtest.h>

#include "framework/CmdTarget.h"

namespace {

class CBase : public CCmdTarget {
public:
    int m_nBase = 0;
    void OnBaseCommand() { ++m_nBase; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBase, CCmdTarget)
ON_COMMAND(100, OnBaseCommand)
ON_COMMAND(200, OnBaseCommand)
END_MESSAGE_MAP()

class CDerived : public CBase {
public:
    int m_nDerived = 0;
    void OnDerivedCommand() { ++m_nDerived; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerived, CBase)
ON_COMMAND(200, OnDerivedCommand)
END_MESSAGE_MAP()

} // namespace

TEST(MessageMap, DerivedEntriesWinAndBaseEntriesAreInherited)
{
    CDerived d;
    EXPECT_TRUE(d.OnCmdMsg(200));
    EXPECT_EQ(d.m_nDerived, 1);
    EXPECT_EQ(d.m_nBase, 0);
    EXPECT_TRUE(d.OnCmdMsg(100));
    EXPECT_EQ(d.m_nBase, 1);
    EXPECT_FALSE(d.OnCmdMsg(300));
    EXPECT_FALSE(d.HasCmdHandler(300));
}
