// Runs a compiled program over one record; the result stays in the root's slot.
#pragma once

#include "eval_settings.h"
#include "expr_error.h"
#include "record_context.h"

namespace ace::expr {

class Program;

bool run_program(Program& p, const RecordContext& ctx, const EvalSettings& settings, Error* err);

}  // namespace ace::expr
