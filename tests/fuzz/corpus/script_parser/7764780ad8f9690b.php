<?php
return 21;
