<?php
class Deep extends Tagged { var $depth = 3; }
class Empty2 extends Deep {}
