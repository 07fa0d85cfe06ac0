// The number of file handles the process asks the system for.
#pragma once

namespace plat {

// Asks for count file handles; returns the number granted.
int SETHANDLECOUNT(int count);

}  // namespace plat
