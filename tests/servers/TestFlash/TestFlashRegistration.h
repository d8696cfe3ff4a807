// For a test program that uses the test control: the server beside the
// test executable, registered for the whole run (in the test's own Wine
// prefix) and taken out again at the end.
#pragma once

#include <gtest/gtest.h>

#include "TestFlashApi.h"

inline std::wstring TestFlashServerPath()
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path = exe;
    return path.substr(0, path.find_last_of(L"\\/")) + L"\\kvtestflash.dll";
}

inline TTestFlashServer& Server()
{
    static TTestFlashServer server(TestFlashServerPath());
    return server;
}

class TTestFlashRegistration : public testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_TRUE(Server().Loaded()) << "kvtestflash.dll not built beside the test";
        ASSERT_EQ(Server().Register(), S_OK);
    }
    void TearDown() override { Server().Unregister(); }
};

// One per test program.
#define TEST_FLASH_REGISTERED_FOR_THE_RUN()                                                  \
    [[maybe_unused]] testing::Environment* const TestFlashRegistration =                      \
        testing::AddGlobalTestEnvironment(new TTestFlashRegistration)
