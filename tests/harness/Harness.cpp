// harness
