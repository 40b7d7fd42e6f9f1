<?php
// only a comment
/* and a block comment */
# and a hash comment
