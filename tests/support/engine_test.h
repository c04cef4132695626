// The base of every engine test: a recording host and the scan state a program run starts with.
#pragma once
#include <gtest/gtest.h>

#include "core/scan_session.h"
#include "recording_host.h"

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { StartSession(&host); }
    void TearDown() override { Session.host = nullptr; }
    RecordingHost host;
};
