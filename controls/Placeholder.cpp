namespace controls {}
