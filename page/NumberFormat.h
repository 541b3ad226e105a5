#pragma once
// The number texts live with the platform's text helpers.
#include "platform/NumberFormat.h"
