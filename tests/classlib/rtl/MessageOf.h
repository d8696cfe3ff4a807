// The message of the exception of class E that fn raises; a test failure
// (and an empty text) when it raises none.
#pragma once

#include <gtest/gtest.h>

#include "classlib/rtl/System.h"

template <class E>
UnicodeString MessageOf(auto&& fn)
{
    try {
        fn();
    } catch (const E& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no exception";
    return {};
}
