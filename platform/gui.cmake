# plat_gui sources
