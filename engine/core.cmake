# io, tables, memos, locks, C interface: list(APPEND ACE_ENGINE_SOURCES ...) / list(APPEND ACE_API_SOURCES ...)
