# ace_expr: the expression language (target defined here)
