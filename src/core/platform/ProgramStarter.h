#pragma once

#include <QString>

// Starting another program by its file name, in a normal window of its own.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Whether the program could be started.
    virtual bool Start(const QString& program) = 0;
};
