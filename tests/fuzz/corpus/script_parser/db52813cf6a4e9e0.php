<?php class Child extends Base { function who() { return "child of " . parent::who(); } }
