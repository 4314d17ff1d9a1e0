#pragma once

#include <tarncore/filesupport/File.h>

// How a failed file creation is reported.
namespace tarncore {
namespace filesupport {

enum class CreateFailure { kNone, kNotFound, kInvalidPath, kLocked, kAccessDenied, kOther };

// The exception class that an errno value of a failed create maps to.
CreateFailure ClassifyCreateError(int inError);

// Throws the create_exception subclass for the errno value; nothing for 0.
void ThrowCreateError(const File& inFile, int inError);

}  // namespace filesupport
}  // namespace tarncore
