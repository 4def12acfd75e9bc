// Failing the running test from a helper, in GoogleTest and in Qt Test alike.
#pragma once

#include <string>

#ifdef VELKMERGE_QT_TEST
#include <QTest>
#define VELKMERGE_FAIL(message) QTest::qFail(std::string(message).c_str(), __FILE__, __LINE__)
#else
#include <gtest/gtest.h>
#define VELKMERGE_FAIL(message) ADD_FAILURE() << std::string(message)
#endif
