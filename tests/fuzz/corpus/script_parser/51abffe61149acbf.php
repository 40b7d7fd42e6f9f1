line one
