# plat_core sources
