# compound indexes: list(APPEND ACE_ENGINE_SOURCES ...)
