#include "cli/host/event_system.h"

#include <QCoreApplication>

namespace tavex {

struct EventSystem::Impl {
    explicit Impl(char* programName) : arguments{programName, nullptr}, application(argumentCount, arguments) {}

    int argumentCount = 1;
    char* arguments[2];
    QCoreApplication application;
};

EventSystem::EventSystem(char* programName) : impl_(std::make_unique<Impl>(programName)) {}

EventSystem::~EventSystem() = default;

} // namespace tavex
