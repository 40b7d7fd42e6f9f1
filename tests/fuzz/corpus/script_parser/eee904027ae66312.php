v1 {x}
