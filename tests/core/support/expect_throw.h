#pragma once
// EXPECT_THROW_MSG(statement, Type, message): the statement throws a Type
// (or a type derived from it) whose what() is exactly `message`. A statement
// that throws nothing, throws another type or another text fails the test
// with what it did instead. ASSERT_THROW_MSG stops the test as well.

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <typeinfo>

namespace valdex::testing {

template <class Error, class Action>
::testing::AssertionResult ThrowsWithMessage(Action&& action, const std::string& expected,
                                             const char* statement, const char* type) {
    try {
        action();
    } catch (const Error& error) {
        if (expected == error.what()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << statement << " threw " << type << " \"" << error.what() << "\"; expected \""
               << expected << "\"";
    } catch (const std::exception& error) {
        return ::testing::AssertionFailure() << statement << " threw " << typeid(error).name()
                                             << " \"" << error.what() << "\"; expected " << type;
    } catch (...) {
        return ::testing::AssertionFailure()
               << statement << " threw something that is no std::exception";
    }
    return ::testing::AssertionFailure()
           << statement << " threw nothing; expected " << type << " \"" << expected << "\"";
}

} // namespace valdex::testing

#define EXPECT_THROW_MSG(statement, type, message)                                                 \
    EXPECT_TRUE(::valdex::testing::ThrowsWithMessage<type>([&] { statement; }, (message),          \
                                                           #statement, #type))

#define ASSERT_THROW_MSG(statement, type, message)                                                 \
    ASSERT_TRUE(::valdex::testing::ThrowsWithMessage<type>([&] { statement; }, (message),          \
                                                           #statement, #type))
