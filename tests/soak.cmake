# The soak plays the game for FELIDORA_SOAK_MINUTES of game time (1.5 by
# default); scripts/sanitize.sh runs it under the sanitizers.
felidora_test(soak_tests SoakTest.cpp)
