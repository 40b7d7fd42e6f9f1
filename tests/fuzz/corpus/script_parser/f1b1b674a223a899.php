this is not a shared object
