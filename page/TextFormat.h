#pragma once
// The wide-text formatter lives with the platform's text helpers.
#include "platform/TextFormat.h"
