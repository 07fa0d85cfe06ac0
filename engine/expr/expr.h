// The expression language in which index keys, FOR conditions and code blocks
// are written.
#pragma once

#include "dates.h"
#include "eval_settings.h"
#include "expr_error.h"
#include "key_encoding.h"
#include "program.h"
#include "record_context.h"
#include "value.h"
